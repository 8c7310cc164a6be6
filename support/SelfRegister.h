#pragma once
// Self-registering components loaded from a file held open against writing
// and deleting, so that the bytes whose digest was taken are the bytes the
// system loads.

#include <string>

#include "support/FileOps.h"
#include "support/Handles.h"

class HeldComponent {
public:
    // Opens the file (readers may share it, nobody may write, rename or delete
    // it) and takes the digest of its bytes.
    explicit HeldComponent(const std::string& path);
    // 0, or the system's error when the file could not be opened or read.
    unsigned long Error() const { return error_; }
    const std::string& Digest() const { return digest_; }

    // Loads the component from the held file. Its dependencies come from its
    // own folder and the System folder, or from the System folder only; where
    // the system cannot restrict the search (the 9x family, older NT), the
    // own folder is left out of the usual search, or put in front of it. Null
    // on failure, with the system's error as the last error.
    UniqueLibrary Load(bool ownFolderDependencies) const;

private:
    std::string path_;
    UniqueKernelHandle file_;
    std::string digest_;
    unsigned long error_ = 0;
};

// The SHA-256 of a whole file; "" when it cannot be read.
std::string FileDigest(const std::string& path);

// Calls a loaded component's DllRegisterServer; the result names `path` in its
// problem text.
Registration RegisterLoaded(HMODULE library, const std::string& path);
// Calls its DllUnregisterServer, when it has one; what it returns is not looked at.
void UnregisterLoaded(HMODULE library);

// The install's message for a component that could not be loaded.
Registration LoadFailure(const std::string& path);
