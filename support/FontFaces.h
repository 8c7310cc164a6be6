#pragma once
// Which face a window's font takes. The windows ask for "ＭＳ Ｐゴシック",
// "ＭＳ ゴシック" and "ＭＳ Ｐ明朝", which a system without the Japanese
// supplemental fonts lacks; another face of the same kind takes their place.

#include <functional>
#include <string>
#include <vector>

// The faces to try for `wanted`, best first: the face itself, then Japanese
// faces of its kind (proportional or fixed-pitch, gothic or mincho) that
// systems have, nearest in looks and size first.
std::vector<std::string> FaceCandidates(const std::string& wanted);

// The first candidate for which `systemHas` holds; "" when it holds for none
// (the caller then takes the system's message font).
std::string ChooseFace(const std::string& wanted, const std::function<bool(const std::string&)>& systemHas);
