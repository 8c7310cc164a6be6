#pragma once
// A payload display for tests: it records every box as "caption: text" and
// answers each with OK.
#include <windows.h>

#include <string>
#include <vector>

#include "app/Payload.h"

class RecordingDisplay : public PayloadDisplay {
public:
    int ShowMessage(const std::string& text, const std::string& caption, unsigned) override
    {
        shown.push_back(caption + ": " + text);
        return IDOK;
    }
    void ShowPreparing(const std::string&) override {}
    void ProcessMessages() override {}
    void EndPreparing() override {}
    std::vector<std::string> shown;
};
