#include "log/NumberedKeys.h"

#include "support/MBUtils.h"
#include "support/uStrOp.h"

namespace {

std::string ComparisonForm(const std::string& item) { return UpperCase(PathPart(item)); }

} // namespace

std::string PathPart(const std::string& item) { return item.substr(0, item.find(',')); }

std::string KeepSharedFlag(const std::string& item, const std::string& stored)
{
    // Only the flag tail is searched: a path written with forward slashes
    // ("C:/Sys/...") holds "/S" without being shared.
    const std::size_t storedTail = stored.find(',');
    const std::size_t itemTail = item.find(',');
    const bool storedShared = storedTail != std::string::npos && MBPosText("/S", stored.substr(storedTail)) > 0;
    const bool itemShared = itemTail != std::string::npos && MBPosText("/S", item.substr(itemTail)) > 0;
    if (!storedShared || itemShared) return item;
    return item + (MBPos(",/", item) > 0 ? "/S" : ",/S");
}

int NumberedKeys::FindKeyNumber(const std::string& item) const
{
    const auto found = numbers_.find(ComparisonForm(item));
    return found != numbers_.end() ? found->second : static_cast<int>(values_.size()) + 1;
}

const std::string& NumberedKeys::ValueAt(int n) const
{
    static const std::string kFree;
    return n >= 1 && n <= static_cast<int>(values_.size()) ? values_[static_cast<std::size_t>(n - 1)] : kFree;
}

void NumberedKeys::Store(int n, const std::string& item)
{
    if (n >= 1 && n <= static_cast<int>(values_.size())) {
        values_[static_cast<std::size_t>(n - 1)] = item;
        return;
    }
    values_.push_back(item);
    numbers_.emplace(ComparisonForm(item), static_cast<int>(values_.size()));
}
