#include "install/Completion.h"

#include "log/LogSchema.h"
#include "support/MBUtils.h"
#include "support/uStrOp.h"

std::string CompletionText(const std::string& setupString, const std::string& unSetupString,
                           const std::string& uninstallTitle)
{
    std::string text = setupString + "が完了しました．";
    if (MBPosText("Setup Only.", uninstallTitle) == 0)
        text += "\r\rプログラムの" + unSetupString + "は，\r「アプリケーションの追加と削除」から行ってください．";
    return text;
}

std::pair<std::string, std::string> SplitExecuteFile(const std::string& value)
{
    const int comma = MBPosText(",", value);
    if (comma == 0) return {value, ""};
    return {LeftStr(value, comma - 1), MidStr(value, comma + 1)};
}

AssociationList ReadAssociationPairs(const IniDocument& script)
{
    AssociationList pairs;
    for (int n = 1; n <= 20; ++n) {
        const std::string name = script.Get(section::kRelate, key::kName + std::to_string(n));
        if (name.empty()) continue;
        const std::string file = script.Get(section::kRelate, key::kFile + std::to_string(n));
        if (!file.empty()) pairs.emplace_back(name, file);
    }
    return pairs;
}
