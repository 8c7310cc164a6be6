#include "install/SpaceRules.h"

bool EnoughFreeSpace(std::int64_t freeBytes, std::int64_t neededBytes) { return freeBytes > neededBytes; }

std::string DiskSpaceQuestion(bool queried, std::int64_t neededBytes, const std::string& setupString)
{
    if (queried)
        return "ディスクの空き容量が不足しているため，エラーになる可能性があります．\rこのまま" + setupString +
               "を続行しますか？";
    return "ディスクの空き容量取得関数が失敗しました．\r" + setupString + "に必要なディスク容量は " +
           std::to_string(neededBytes) + " Byteです．\r空き容量があるようであれば，" + setupString +
           "を続行してください．\r\r" + setupString + "を続行しますか？";
}
