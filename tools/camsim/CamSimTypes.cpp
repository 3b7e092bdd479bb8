#include "tools/camsim/CamSimTypes.h"

#include <utility>

namespace camsim {

namespace {

const std::pair<Fault::Kind, const char*> FAULT_NAMES[] = {
    { Fault::Kind::None, "none" },
    { Fault::Kind::HttpStatus, "http" },
    { Fault::Kind::BrokenJson, "broken_json" },
    { Fault::Kind::NotObject, "not_object" },
    { Fault::Kind::NoRval, "no_rval" },
    { Fault::Kind::Rval, "rval" },
    { Fault::Kind::Drop, "drop" },
};

const std::pair<FrameFault::Kind, const char*> FRAME_FAULT_NAMES[] = {
    { FrameFault::Kind::None, "none" },
    { FrameFault::Kind::NotFound, "not_found" },
    { FrameFault::Kind::Stall, "stall" },
    { FrameFault::Kind::BrokenJpeg, "broken" },
    { FrameFault::Kind::Truncated, "truncated" },
    { FrameFault::Kind::Chunked, "chunked" },
};

} // namespace

std::string faultName(Fault::Kind eKind)
{
    for (const auto& entry : FAULT_NAMES)
        if (entry.first == eKind)
            return entry.second;
    return "none";
}

std::string frameFaultName(FrameFault::Kind eKind)
{
    for (const auto& entry : FRAME_FAULT_NAMES)
        if (entry.first == eKind)
            return entry.second;
    return "none";
}

bool faultKindFromName(const std::string& strName, Fault::Kind& eKind)
{
    for (const auto& entry : FAULT_NAMES) {
        if (strName == entry.second) {
            eKind = entry.first;
            return true;
        }
    }
    if (strName == "delay") { // a pure delay is the normal answer, late
        eKind = Fault::Kind::None;
        return true;
    }
    return false;
}

bool frameFaultKindFromName(const std::string& strName, FrameFault::Kind& eKind)
{
    for (const auto& entry : FRAME_FAULT_NAMES) {
        if (strName == entry.second) {
            eKind = entry.first;
            return true;
        }
    }
    if (strName == "delay") {
        eKind = FrameFault::Kind::None;
        return true;
    }
    return false;
}

} // namespace camsim
