#include "app/Settings.h"

#include "log/LogSchema.h"
#include "support/MBUtils.h"
#include "support/uStrOp.h"

namespace {

constexpr std::size_t kLongestShownValue = 80;

class SettingsLoader {
public:
    SettingsLoader(RunMode mode, const SettingsSources& sources, const FolderTable& folders)
        : mode_(mode), sources_(sources), folders_(folders)
    {
    }

    LoadedSettings Load()
    {
        LoadedSettings loaded;
        SetupSettings& s = loaded.settings;
        GeneralKeys& g = s.general;
        g.setupString = Read(section::kExtend, key::kSetupString, "インストール");
        g.unSetupString = Read(section::kExtend, key::kUnSetupString, "アンインストール");
        const std::string copyRight1 = Read(section::kTitle, key::kCopyRight1, "");
        s.productBanner = ProductBanner(copyRight1, Read(section::kTitle, key::kCopyRight2, ""));
        const std::string speed = Read(section::kExtend, key::kSetupSpeed, "350");
        const std::optional<int> delay = StepDelayFromSetupSpeed(speed);
        if (!delay) {
            loaded.error = ScriptError{key::kSetupSpeed, speed};
            return loaded;
        }
        g.stepDelay = static_cast<unsigned>(*delay);
        g.setupTitle = Read(section::kTitle, key::kSetup, "Tessera Setup");
        g.unSetupTitle = Read(section::kTitle, key::kUnSetup, g.setupTitle);

        if (mode_ == RunMode::Install) {
            g.programId = Read(section::kProgramID, key::kID, "");
            s.proposedFolder = InstallFolderProposal(g.programId);
        } else {
            s.proposedFolder = Expanded(Read(section::kSetupFolder, key::kFolder, ""));
        }
        s.optionsEnabled = Read(section::kExtend, key::kEnabled, "") != "False";

        if (mode_ == RunMode::Install) {
            s.shortcuts = ScanShortcutNames();
            s.mainMessage = InstallMainMessage(MessageLines(), g.setupString);
            const std::string readme = ReadmePath(sources_.sourceFolder, Read(section::kReadme, key::kFile, ""));
            if (!readme.empty() && sources_.fileExists(readme)) s.readmeFile = readme;
            s.readmeTitle = Read(section::kReadme, key::kTitle, "");
            s.readmeScrollBars = ScrollBarsFromText(Read(section::kReadme, key::kScrollBars, "ssVertical"));
        } else {
            s.mainMessage = UninstallMainMessage(g.unSetupString);
            s.uninstallOptions = Read(section::kUnSetupOption, key::kCheckBox, "0,0,0,0");
        }
        return loaded;
    }

private:
    std::string Read(const std::string& section, const std::string& key, const std::string& defaultValue) const
    {
        return sources_.readScript(section, key, defaultValue);
    }

    std::string Expanded(const std::string& folder) const
    {
        return AddBackSlash(ExpandFolderMacros(folder, folders_), "B");
    }

    std::string InstallFolderProposal(const std::string& programId) const
    {
        std::string proposal = Read(section::kDefaultFolder, key::kFolder, "(Prg)\\");
        if (!programId.empty()) {
            const std::string programList = folders_[FolderMacro::Win] + kProgramListName;
            proposal = sources_.readIniFile(programList, programId, key::kFolder, proposal);
        }

        const std::string referRegistry = Read(section::kDefaultFolder, key::kReferRegistry, "");
        if (!referRegistry.empty()) {
            const RegistryKeyName key = ParseRegistryKey(GetToken(referRegistry, ",", 1));
            const std::string value = sources_.readRegistry(key, GetToken(referRegistry, ",", 2));
            if (!value.empty()) proposal = value;
        }

        const std::string referIniFile = Read(section::kDefaultFolder, key::kReferIniFile, "");
        if (!referIniFile.empty()) {
            const std::string reference = ExpandFolderMacros(referIniFile, folders_);
            const std::string file = GetToken(reference, ",", 3);
            // Without a file there is nothing to read (the system would look for one of its own).
            const std::string value = file.empty() ? std::string()
                                                   : sources_.readIniFile(file, GetToken(reference, ",", 1),
                                                                          GetToken(reference, ",", 2), "");
            if (!value.empty()) proposal = value;
        }
        return Expanded(proposal);
    }

    ShortcutChoices ScanShortcutNames() const
    {
        ShortcutChoices hits;
        for (int n = 1;; ++n) {
            const std::string name = Read(section::kShortCut, key::kName + std::to_string(n), "");
            if (name.empty()) break;
            AddShortcutHits(name, hits);
        }
        return hits;
    }

    std::array<std::string, 5> MessageLines() const
    {
        std::array<std::string, 5> lines;
        for (std::size_t i = 0; i < lines.size(); ++i)
            lines[i] = Read(section::kTopMessage, key::kMessage + std::to_string(i + 1), "");
        return lines;
    }

    RunMode mode_;
    const SettingsSources& sources_;
    const FolderTable& folders_;
};

} // namespace

std::string ScriptErrorFatalText(const ScriptError& error)
{
    // A value of any length fits the message: a long one is cut on a character boundary.
    std::string shown = error.value;
    if (shown.size() > kLongestShownValue) {
        std::size_t cut = kLongestShownValue;
        while (cut > 0 && !IsCharStart(shown, cut)) --cut;
        shown = shown.substr(0, cut) + "...";
    }
    return "【致命的エラー  →  iniファイルの値が不正です（" + error.key + "=" + shown + "）】\r";
}

LoadedSettings LoadSettings(RunMode mode, const SettingsSources& sources, const FolderTable& folders)
{
    return SettingsLoader(mode, sources, folders).Load();
}
