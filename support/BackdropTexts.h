#pragma once
// The backdrop's title bar text, built from the FileVersion string of the
// program's version resource.

#include <string>

struct VersionNumbers {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned release = 0;
    unsigned build = 0;
};

// "2.3.4.2563" gives 2, 3, 4 and 2563. Major, minor and release are each taken
// up to the next "."; when there is none the number is 0 and the rest is kept for
// the build. A field that is not a whole number of at most nine digits counts as 0.
VersionNumbers ParseFileVersion(const std::string& fileVersion);

// "2.34(Build:2563)": minor and release written one after the other with at
// least two digits, the build with at least four.
std::string VersionBanner(const VersionNumbers& version);

// "Tessera Setup Standard Version" followed by the banner.
std::string BackdropCaption(const std::string& versionBanner);
