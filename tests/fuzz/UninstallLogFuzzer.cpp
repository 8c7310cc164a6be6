// An uninstall log from a disk, years old: read into the record an install
// carries forward, written again and read back, the lists come back whole;
// and the uninstall's reading of each recorded item and its protection rules.
#include "support/IniDocument.h"
#include "uninstall/ComponentRules.h"
#include "support/LinkRules.h"
#include "uninstall/InstallRecord.h"
#include "uninstall/LogBuilder.h"
#include "uninstall/LogMerge.h"
#include "uninstall/LogTrust.h"
#include "uninstall/Protection.h"
#include "uninstall/UninstallRules.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::string item = input.Field(), folder = input.Field();

    InstallRecord record;
    MergePreviousLog(IniDocument::Parse(input.Whole()), record);
    const LogTexts texts{"title", "C:\\APP\\", "1,0,0,0", "install", "uninstall", "Software\\Key", "ID"};
    const IniDocument written = BuildUninstallLog(record, texts, [](const std::string&) {});
    InstallRecord again;
    MergePreviousLog(IniDocument::Parse(written.Text()), again);
    for (std::size_t i = 0; i < kPendingListCount; ++i) {
        const auto list = static_cast<PendingList>(i);
        FUZZ_EXPECT(again.Items(list) == record.Items(list));
    }
    FUZZ_EXPECT(again.RestoreSlots() == record.RestoreSlots());

    // A log believed in part gives no more than the whole, and lists the rest.
    struct : FolderBounds {
        std::string folder;
        bool Inside(const std::string& path) const override { return IsSameOrUnder(ComparablePath(path), folder); }
    } bounds;
    bounds.folder = ComparablePath(folder);
    InstallRecord part;
    MergePreviousLog(IniDocument::Parse(input.Whole()), {false, false}, bounds, GeneralKeys(), part);
    for (std::size_t i = 0; i < kPendingListCount; ++i) {
        const auto list = static_cast<PendingList>(i);
        FUZZ_EXPECT(part.Items(list).size() <= record.Items(list).size());
    }
    FUZZ_EXPECT(part.ComponentDigestItems().empty() && part.RestoreSlots().empty());
    RecordedDigest(written, item);
    RegisteredByInstall(item);

    const RecordedFile file = SplitRecordedFile(item);
    HasRecordedFlag(file, 'L');
    DecideUncountedFile(file, "C:\\WINDOWS\\", "C:\\WINDOWS\\SYSTEM\\");
    const RecordedKey key = SplitRecordedKey(item);
    IsProtectedRegistryKey(RootOfToken(key.rootToken), key.path);
    IsProtectedRegistryKey(RootOfToken(key.rootToken), key.path, false);
    IsProductUninstallKey(key.path);
    IsSystemFileType(item);
    HasRelativeParts(folder);
    LogPathOfCommand(item);
    NormalizedKeyPath(key.path);
    LastNameEmpty(key.path);
    const SavedAssociation association = SplitSavedAssociation(item);
    IsOwnFileType(association.previous, association.extension);
    AutoFileType(association.extension);
    UsableExtension(association.extension);

    const std::string path = ComparablePath(item), under = ComparablePath(folder);
    IsSameOrUnder(path, under);
    IsRoot(path);
    IsProtectedFolder(path, {under, "C:\\WINDOWS"});
    MayUnregister(path, true, under, {"C:\\WINDOWS"}, true);
    DriveOf(path);
    HasWildcard(item);
    NameStartsWithWildcard(item);

    // The plain form is one: made again, it stays; its steps lie inside it, each
    // longer than the one before.
    const std::string plain = PlainForm(item, "HOST", nullptr);
    FUZZ_EXPECT(PlainForm(plain, "HOST", nullptr) == plain);
    for (std::size_t previous = 0, end = NextStepEnd(plain, 0); end != std::string::npos;
         previous = end, end = NextStepEnd(plain, end))
        FUZZ_EXPECT(end > previous && end <= plain.size());
    return 0;
}
