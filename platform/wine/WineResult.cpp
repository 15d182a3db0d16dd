#include "platform/wine/WineResult.h"

#include "platform/File.h"

namespace moxtrel::platform::wine {

namespace {

std::string WithOsError(std::string what, int osError) {
    return osError == 0 ? what : what + ": " + OsErrorText(osError);
}

}  // namespace

std::string DescribeFailure(const WineResult& result) {
    switch (result.failure) {
    case WineFailure::None: return "done";
    case WineFailure::KeyNotFound: return "no such key";
    case WineFailure::ValueNotFound: return "no such value";
    case WineFailure::NoRegistryFile: return "the prefix has no user.reg";
    case WineFailure::RegistryDamaged:
        return "user.reg is damaged (line " + std::to_string(result.line) + ": " + result.detail + ")";
    case WineFailure::ReadFailed: return WithOsError("the registry could not be read", result.osError);
    case WineFailure::WriteFailed: return WithOsError("user.reg could not be written", result.osError);
    case WineFailure::TextNotUnicode: return "the text is not UTF-8";
    case WineFailure::NoDrive: return "the path is on no drive of the prefix";
    case WineFailure::WineNotInstalled: return "a wineserver runs for the prefix, but wine is not installed";
    case WineFailure::WineTimedOut: return "wine did not answer within " + result.detail;
    case WineFailure::WineFailed: return "wine reg failed (" + result.detail + ")";
    }
    return "unknown failure";
}

}  // namespace moxtrel::platform::wine
