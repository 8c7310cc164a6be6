#include "app/Payload.h"

#include <windows.h>

#include <cstring>

#include "app/ExitCodes.h"
#include "install/FolderRules.h"
#include "install/FreeSpace.h"
#include "install/SpaceRules.h"
#include "support/Cabinet.h"
#include "support/FileOps.h"
#include "support/Handles.h"
#include "support/PayloadRules.h"
#include "support/Sha256.h"
#include "support/SysErrorText.h"
#include "support/SystemText.h"

namespace {

constexpr DWORD kMoment = 400; // milliseconds of unpacking before the text is shown
constexpr std::size_t kPiece = 64 * 1024;
// The action word of the messages: the script that could name another is in the payload.
constexpr char kSetupWord[] = "インストール";

// The text once the unpacking has taken longer than a moment; the windows kept
// answering from then on.
class Preparing final : public CabinetProgress {
public:
    explicit Preparing(PayloadDisplay& display) : display_(display), start_(GetTickCount()) {}
    ~Preparing()
    {
        if (shown_) display_.EndPreparing();
    }
    Preparing(const Preparing&) = delete;
    Preparing& operator=(const Preparing&) = delete;

    void Tick() override
    {
        if (!shown_ && GetTickCount() - start_ >= kMoment) {
            shown_ = true;
            display_.ShowPreparing(kPreparingText);
        }
        if (shown_) display_.ProcessMessages();
    }

private:
    PayloadDisplay& display_;
    DWORD start_;
    bool shown_ = false;
};

bool DigestMatches(HANDLE file, const PayloadTrailer& trailer, Preparing& preparing)
{
    Sha256 digest;
    std::string piece(kPiece, '\0');
    for (std::uint32_t done = 0; done < trailer.cabinetLength;) {
        const std::uint32_t left = trailer.cabinetLength - done;
        const DWORD got = ReadFileAt(file, trailer.cabinetOffset + done, piece.data(), left < kPiece ? left : kPiece);
        if (got == 0) return false;
        digest.Add(std::string_view(piece.data(), got));
        done += got;
        preparing.Tick();
    }
    return std::memcmp(digest.Digest().data(), trailer.digest, sizeof trailer.digest) == 0;
}

// The space check of an install, for the work folder's drive; the action word
// is the default one, the script being inside the payload.
bool EnoughSpaceOrGoOn(const std::string& workFolder, std::uint64_t needed, MessageBoxes& boxes)
{
    const std::string drive = DrivePart(workFolder);
    FreeSpace space = DriveFreeSpaceEx(drive);
    if (!space.known) space = DriveFreeSpace(drive);
    const auto bytes = static_cast<std::int64_t>(needed > INT64_MAX ? INT64_MAX : needed);
    if (EnoughFreeSpace(space.bytes, bytes)) return true;
    if (boxes.ShowMessage(DiskSpaceQuestion(space.known, bytes, kSetupWord), "空き容量不足", MB_YESNO | MB_ICONQUESTION) ==
        IDYES)
        return true;
    boxes.ShowMessage("インストールを続行できませんでした．", "セットアップ中止", MB_ICONSTOP);
    return false;
}

std::string ProblemText(const CabinetExtraction& extraction)
{
    switch (extraction.problem) {
    case CabinetProblem::NoLibrary:
        return "このファイルを展開するには，Windowsのcabinet.dllが必要ですが，見つかりません．\r"
               "Windows 95とWindows NT 4.0では，フォルダ形式の配布媒体からセットアップしてください．";
    case CabinetProblem::UnknownName:
        return "このファイルには，このWindowsでは扱えない名前のファイルが含まれています．";
    case CabinetProblem::WriteFailed:
        return "セットアップの準備ができませんでした．\r\r" + SysErrorText(extraction.error);
    default: return kDamagedPayloadText;
    }
}

PayloadOutcome Stop(MessageBoxes& boxes, const std::string& text, int exitCode)
{
    if (!text.empty()) boxes.ShowMessage(text, kPayloadErrorCaption, MB_ICONSTOP);
    return {PayloadOutcome::Kind::Stop, {}, exitCode};
}

} // namespace

PayloadOutcome UnpackPayload(const std::string& program, const std::string& workFolder,
                             const std::string& systemFolder, PayloadDisplay& display)
{
    // Held open, writers kept out, from the digest to the last byte extracted.
    const UniqueFileHandle file(
        os::CreateFile(program, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    if (!file) return {};
    DWORD high = 0;
    const DWORD size = GetFileSize(file.get(), &high);
    if (high != 0 || size == INVALID_FILE_SIZE) return {}; // no program of ours
    char head[kProgramHeadSize];
    const std::optional<std::uint32_t> end =
        TrailerEnd({head, ReadFileAt(file.get(), 0, head, sizeof head)}, size);
    if (!end || *end < kPayloadTrailerSize) return {};
    char trailer[kPayloadTrailerSize];
    const TrailerRead read = ParsePayloadTrailer(
        {trailer, ReadFileAt(file.get(), *end - kPayloadTrailerSize, trailer, sizeof trailer)}, *end);
    if (read.state == TrailerState::None) return {};

    Preparing preparing(display);
    if (read.state == TrailerState::Damaged || !DigestMatches(file.get(), read.trailer, preparing))
        return Stop(display, kDamagedPayloadText, kExitInstallFailure);
    if (!EnoughSpaceOrGoOn(workFolder, read.trailer.expandedSize, display)) return Stop(display, "", kExitUserCancelled);

    const std::string folder = workFolder + kPayloadFolderName + "\\";
    // Made here, or the unpacking stops: a folder that was there (a reused work
    // folder's, or one planted in its place) is neither trusted nor deleted through.
    if (!os::CreateDirectory(folder))
        return Stop(display, ProblemText({CabinetProblem::WriteFailed, GetLastError()}), kExitInstallFailure);
    const CabinetExtraction extraction = ExtractCabinet(file.get(), read.trailer.cabinetOffset,
                                                        read.trailer.cabinetLength, folder, systemFolder, preparing);
    if (extraction.problem != CabinetProblem::None) {
        RemoveFolder(folder, "*.*"); // nothing extracted stays behind
        return Stop(display, ProblemText(extraction), kExitInstallFailure);
    }
    return {PayloadOutcome::Kind::Unpacked, folder, kExitDone};
}
