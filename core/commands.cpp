// Apply and Remove: load -> transform -> store -> report.
//
// The report is composed before the text is stored, so that a failure at any
// point before the store leaves the host's text as it was. Whatever fails,
// the buffer is released and the exception goes on to the front end.
#include <string>

#include "report.h"
#include "skin_patch_core.h"

void CSkinPatchCore::OnApplyBBCode()
{
    std::string report;
    try {
        LoadText();
        const int32_t removed = RemoveBBCode();  // takes out what an earlier Apply added
        const int32_t added = AddBBCode();
        report = orlimo::ApplyReport(removed, added);
        StoreText();
    } catch (...) {
        ReleaseText();
        throw;
    }
    HostShowMessage(report);
}

void CSkinPatchCore::OnRemoveBBCode()
{
    std::string report;
    try {
        LoadText();
        const int32_t removed = RemoveBBCode();
        report = orlimo::RemoveReport(removed);
        StoreText();
    } catch (...) {
        ReleaseText();
        throw;
    }
    HostShowMessage(report);
}
