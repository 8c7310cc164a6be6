#pragma once
// A program that carries its medium as a payload (one signed file to download)
// unpacks it at start-up into a folder of the work folder, which is then its
// source folder. A program without a payload goes on as from a medium.

#include <string>

#include "support/UserInterface.h"

// What the unpacking shows the user: its messages, and a text while it takes
// longer than a moment.
class PayloadDisplay : public MessageBoxes {
public:
    virtual void ShowPreparing(const std::string& text) = 0;
    virtual void ProcessMessages() = 0;
    virtual void EndPreparing() = 0;
};

constexpr char kPayloadFolderName[] = "MEDIUM";
constexpr char kPreparingText[] = "セットアップの準備をしています．しばらくお待ちください．．．";
constexpr char kPayloadErrorCaption[] = "エラー";
constexpr char kDamagedPayloadText[] = "このファイルは壊れています．もう一度ダウンロードしてください．";

struct PayloadOutcome {
    enum class Kind { None, Unpacked, Stop } kind = Kind::None;
    std::string sourceFolder; // Unpacked: the folder that holds the medium
    int exitCode = 0;         // Stop: the program ends with it (the user has been told why)
};

// Checks the payload of `program` against its digest, the free space of the
// work folder's drive against its size, and extracts it into the work folder's
// kPayloadFolderName folder, with cabinet.dll of `systemFolder`.
PayloadOutcome UnpackPayload(const std::string& program, const std::string& workFolder,
                             const std::string& systemFolder, PayloadDisplay& display);
