#include "install/LzErrors.h"

namespace {
// The LZ library's codes, and the system codes that say the same.
constexpr long kLzBadInHandle = -1, kLzBadOutHandle = -2, kLzRead = -3, kLzWrite = -4, kLzGlobalAlloc = -5,
               kLzGlobalLock = -6, kLzBadValue = -7, kLzUnknownAlgorithm = -8;
constexpr unsigned long kInvalidHandle = 6, kNotEnoughMemory = 8, kInvalidData = 13, kWriteFault = 29,
                        kReadFault = 30, kGeneralFailure = 31;
} // namespace

unsigned long SystemCodeOfLzError(long lzResult)
{
    switch (lzResult) {
    case kLzBadInHandle:
    case kLzBadOutHandle: return kInvalidHandle;
    case kLzRead: return kReadFault;
    case kLzWrite: return kWriteFault;
    case kLzGlobalAlloc:
    case kLzGlobalLock: return kNotEnoughMemory;
    case kLzBadValue:
    case kLzUnknownAlgorithm: return kInvalidData;
    default: return kGeneralFailure;
    }
}
