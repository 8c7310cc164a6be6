#include "app/Settings.h"

#include "support/MBUtils.h"
#include "support/uStrOp.h"

namespace {

constexpr char kProgramListName[] = "TESSREG.INI";
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
        g.setupString = Read("Extend", "SetupString", "インストール");
        g.unSetupString = Read("Extend", "UnSetupString", "アンインストール");
        const std::string copyRight1 = Read("Title", "CopyRight1", "");
        s.productBanner = ProductBanner(copyRight1, Read("Title", "CopyRight2", ""));
        const std::string speed = Read("Extend", "SetupSpeed", "350");
        const std::optional<int> delay = StepDelayFromSetupSpeed(speed);
        if (!delay) {
            loaded.error = ScriptError{"SetupSpeed", speed};
            return loaded;
        }
        g.stepDelay = static_cast<unsigned>(*delay);
        g.setupTitle = Read("Title", "Setup", "Tessera Setup");
        g.unSetupTitle = Read("Title", "UnSetup", g.setupTitle);

        if (mode_ == RunMode::Install) {
            g.programId = Read("ProgramID", "ID", "");
            s.proposedFolder = InstallFolderProposal(g.programId);
        } else {
            s.proposedFolder = Expanded(Read("SetupFolder", "Folder", ""));
        }
        s.optionsEnabled = Read("Extend", "Enabled", "") != "False";

        if (mode_ == RunMode::Install) {
            s.shortcuts = ScanShortcutNames();
            s.mainMessage = InstallMainMessage(MessageLines(), g.setupString);
            const std::string readme = ReadmePath(sources_.sourceFolder, Read("Readme", "File", ""));
            if (!readme.empty() && sources_.fileExists(readme)) s.readmeFile = readme;
            s.readmeTitle = Read("Readme", "Title", "");
            s.readmeScrollBars = ScrollBarsFromText(Read("Readme", "ScrollBars", "ssVertical"));
        } else {
            s.mainMessage = UninstallMainMessage(g.unSetupString);
            s.uninstallOptions = Read("UnSetupOption", "CheckBox", "0,0,0,0");
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
        std::string proposal = Read("DefaultFolder", "Folder", "(Prg)\\");
        if (!programId.empty()) {
            const std::string programList = folders_[FolderMacro::Win] + kProgramListName;
            proposal = sources_.readIniFile(programList, programId, "Folder", proposal);
        }

        const std::string referRegistry = Read("DefaultFolder", "ReferRegistry", "");
        if (!referRegistry.empty()) {
            const RegistryKeyName key = ParseRegistryKey(GetToken(referRegistry, ",", 1));
            const std::string value = sources_.readRegistry(key, GetToken(referRegistry, ",", 2));
            if (!value.empty()) proposal = value;
        }

        const std::string referIniFile = Read("DefaultFolder", "ReferIniFile", "");
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
            const std::string name = Read("ShortCut", "Name" + std::to_string(n), "");
            if (name.empty()) break;
            AddShortcutHits(name, hits);
        }
        return hits;
    }

    std::array<std::string, 5> MessageLines() const
    {
        std::array<std::string, 5> lines;
        for (std::size_t i = 0; i < lines.size(); ++i)
            lines[i] = Read("TopMessage", "Message" + std::to_string(i + 1), "");
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
