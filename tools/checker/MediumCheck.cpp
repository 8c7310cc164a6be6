#include "tools/checker/MediumCheck.h"

#include "log/LogSchema.h"
#include "support/uStrOp.h"
#include "tools/checker/CheckerText.h"

const DistributionFile* FindOnMedium(const CheckInput& input, const std::string& path)
{
    for (const DistributionFile& file : input.distribution)
        if (SameName(file.path, path)) return &file;
    return nullptr;
}

std::string SourceOnMedium(CheckContext& check, const std::string& section, const std::string& key,
                           const CopyEntry& entry)
{
    const DistributionFile* file = FindOnMedium(check.Input(), entry.source);
    if (!file) {
        std::string where;
        for (const DistributionFile& f : check.Input().distribution)
            if (SameName(NamePart(f.path), entry.source)) where = FolderPart(f.path);
        check.AddAt(Severity::Error, section, key, "source-missing",
                    Quoted(entry.source) + " is not in the distribution folder: the entry is skipped and reported" +
                        (where.empty()
                             ? std::string()
                             : " (the source folder is flat: the file in " + Quoted(where) + " is not looked for)"));
        return entry.target;
    }
    if (!entry.compressed) return entry.target;
    const LzHeader header = ReadLzHeader(file->head);
    const bool stored = NamePart(entry.target) == kStoredNamePlaceholder;
    const std::string target =
        stored ? TargetWithStoredName(entry.target, ExpandedName(entry.source, header)) : entry.target;
    if (header.format == LzFormat::CutShort || header.format == LzFormat::UnknownMethod)
        check.AddAt(Severity::Error, section, key, "lz-format",
                    Quoted(entry.source) + " cannot be expanded (its compressed header is " +
                        (header.format == LzFormat::CutShort ? "cut short" : "of an unknown method") +
                        "): the copy fails");
    else if (header.format == LzFormat::Plain)
        check.AddAt(stored ? Severity::Error : Severity::Warning, section, key, "lz-format",
                    Quoted(entry.source) + " is not in the LZ format: it is copied unchanged" +
                        (stored ? ", as " + Quoted(NamePart(target)) : std::string()));
    return target;
}

void CheckProgramOnMedium(CheckContext& check)
{
    if (check.Input().haveDistribution && !FindOnMedium(check.Input(), kProgramName))
        check.Add(Severity::Warning, 0, "", "", "source-missing",
                  std::string(kProgramName) + " is not in the distribution folder: nothing there runs this script");
}
