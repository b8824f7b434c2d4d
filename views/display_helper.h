#pragma once
// CDisplayHelper: the value formatting the channel views share with the codec: a sensor's
// nominal-value code turned into the nominal value and unit text of its measurand.

#include "platform/cstring.h"
#include "protocol/kadmor_send.h"

class CDisplayHelper : public CKadmor_Send {
public:
    // codeText: the nominal-value code as "%04x"; valueText and unitText come preset ("Val.?",
    // "Unit.?") and are replaced by the nominal value and unit; factor receives the unit factor.
    // A code that is no hexadecimal number, or a value the measurand cannot show, gives "n.a."
    // for both texts and leaves the factor alone; false then.
    bool FormatValueText(const CString& codeText, BYTE typeClass, int language, CString& valueText,
                         CString& unitText, double& factor) const;
};
