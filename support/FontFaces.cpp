#include "support/FontFaces.h"

namespace {

// Proportional Japanese UI faces: the one with the same glyphs and sizes as
// "ＭＳ Ｐゴシック" first, then today's UI faces (Yu Gothic UI is on every
// system from Windows 10 on, with or without the Japanese supplemental
// fonts), then the free IPA font of Linux systems and Wine.
const char* const kProportionalGothic[] = {"MS UI Gothic", "Yu Gothic UI", "Meiryo UI", "IPAPGothic"};
const char* const kFixedGothic[] = {"BIZ UDGothic", "IPAGothic"};
const char* const kProportionalMincho[] = {"Yu Mincho", "IPAPMincho"};

template <std::size_t N>
void Append(std::vector<std::string>& faces, const char* const (&more)[N])
{
    faces.insert(faces.end(), more, more + N);
}

} // namespace

std::vector<std::string> FaceCandidates(const std::string& wanted)
{
    std::vector<std::string> faces{wanted};
    if (wanted == "ＭＳ ゴシック") Append(faces, kFixedGothic);
    if (wanted == "ＭＳ Ｐ明朝") Append(faces, kProportionalMincho);
    // A fixed-pitch or mincho face is better replaced by a Japanese face of
    // another kind than by a font without Japanese characters.
    Append(faces, kProportionalGothic);
    return faces;
}

std::string ChooseFace(const std::string& wanted, const std::function<bool(const std::string&)>& systemHas)
{
    for (const std::string& face : FaceCandidates(wanted))
        if (systemHas(face)) return face;
    return "";
}
