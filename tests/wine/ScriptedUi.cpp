#include "tests/wine/ScriptedUi.h"

#include <windows.h>

#include <gtest/gtest.h>

ScriptedUi::~ScriptedUi()
{
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " prepared answers were not asked for";
    EXPECT_TRUE(sharedAnswers_.empty()) << sharedAnswers_.size() << " shared-file answers were not asked for";
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

SharedFileAnswer ScriptedUi::AskAboutSharedFile(const std::string& text)
{
    sharedQuestions_.push_back(text);
    if (!sharedAnswers_.empty()) {
        const SharedFileAnswer answer = sharedAnswers_.front();
        sharedAnswers_.pop_front();
        return answer;
    }
    ADD_FAILURE() << "unanswered shared-file question: " << text;
    return SharedFileAnswer::Keep;
}

void ScriptedUi::ShowStatus(const std::string& text)
{
    statuses_.push_back(text);
    if (!abortAtStatus_.empty() && text.rfind(abortAtStatus_, 0) == 0 && abortEnabled_) abort_ = true;
}

int ScriptedUi::SetProgress(int percent, int done, int total)
{
    const int shown = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    progressPositions_.push_back(shown);
    progressLabels_.push_back(std::to_string(shown) + "%(" + std::to_string(done) + "/" + std::to_string(total) + ")");
    return shown;
}
