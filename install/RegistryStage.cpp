// The [Registry] and [IniFile] stages.
#include <windows.h>

#include "install/InstallStages.h"
#include "install/RegistryRules.h"
#include "log/LogSchema.h"
#include "log/RegistrationRules.h"
#include "support/Registry.h"
#include "support/uIniFile.h"

namespace {

StageOutcome Refused(UserInterface& ui, const std::string& text)
{
    ui.ShowMessage(text, "致命的エラー", MB_ICONSTOP);
    return StageOutcome::FatalStop;
}

long WriteValue(HKEY key, const std::string& name, const RegistryValue& value)
{
    switch (value.kind) {
    case RegistryValueKind::String: return SetRegistryString(key, name, value.text);
    case RegistryValueKind::ExpandString: return SetRegistryString(key, name, value.text, true);
    case RegistryValueKind::Dword: return SetRegistryDword(key, name, value.number);
    case RegistryValueKind::Binary: {
        const unsigned char bytes[4] = {static_cast<unsigned char>(value.number), static_cast<unsigned char>(value.number >> 8),
                                        static_cast<unsigned char>(value.number >> 16),
                                        static_cast<unsigned char>(value.number >> 24)};
        return SetRegistryBinary(key, name, bytes, sizeof bytes);
    }
    case RegistryValueKind::KeyOnly:
    case RegistryValueKind::Nothing: break;
    }
    return ERROR_SUCCESS;
}

} // namespace

StageOutcome RunRegistryStage(InstallRunState& state, UserInterface& ui)
{
    const RunContext& context = state.context;
    for (int n = 1;; ++n) {
        const std::string number = std::to_string(n);
        const std::string keyText = context.script.Get(section::kRegistry, key::kKey + number);
        const std::string name = context.script.Get(section::kRegistry, key::kName + number);
        const std::string valueText = context.script.Get(section::kRegistry, key::kValue + number);
        if (keyText.empty()) return StageOutcome::Continue;
        ui.ShowStatus("レジストリを設定しています．．．");
        if (ui.AbortRequested()) return StageOutcome::Aborted;

        const RegistryKeyName key = ParseRegistryKey(keyText);
        UniqueRegKey opened;
        if (CreateRegistryKey(RegistryRootKey(key.root), key.path, opened) != ERROR_SUCCESS)
            return Refused(ui, KeyCreationFailedText(key.path));
        RegistryValue value = ParseRegistryValue(valueText, context.folders);
        value.text = ForOtherProcesses(value.text, context.files);
        if (WriteValue(opened.get(), name, value) != ERROR_SUCCESS)
            return Refused(ui, ValueNotSetText(name));
    }
}

StageOutcome RunIniStage(InstallRunState& state, UserInterface& ui)
{
    const RunContext& context = state.context;
    for (int n = 1;; ++n) {
        const std::string data = context.script.Get(section::kIniFile, key::kData + std::to_string(n));
        if (data.empty()) return StageOutcome::Continue;
        ui.ShowStatus("Iniファイルを設定しています．．．");
        if (ui.AbortRequested()) return StageOutcome::Aborted;
        const IniEntry entry = ParseIniEntry(data, context.folders);
        WriteIniStr(entry.section, entry.key, ForOtherProcesses(entry.value, context.files), entry.file);
    }
}
