#include "tests/wine/ScriptedUi.h"

#include <windows.h>

#include <gtest/gtest.h>

ScriptedUi::ScriptedUi() : previous_(CurrentUserInterface()) { SetUserInterface(this); }

ScriptedUi::~ScriptedUi()
{
    SetUserInterface(previous_);
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " prepared answers were not asked for";
}

int ScriptedUi::ShowMessage(const std::string& text, const std::string& caption, unsigned style)
{
    messages_.push_back({text, caption, style});
    if (!answers_.empty()) {
        const int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    if ((style & MB_TYPEMASK) == MB_OK) return IDOK;
    ADD_FAILURE() << "unanswered message box: " << caption << ": " << text;
    return IDCANCEL;
}
