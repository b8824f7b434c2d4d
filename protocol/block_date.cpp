// Block dates: seconds since 1970-01-01 00:00:00 UTC in block bytes 7 to 10, shown in local time.

#include "protocol/block_fields.h"
#include "protocol/kadmor_send.h"

#include <ctime>

namespace {

constexpr int kDateAt = 7;
constexpr char kDateError[] = "ERROR DATE TIME";

bool ToLocalDate(std::int64_t seconds, BlockDateTm& out)
{
    const auto t = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (!localtime_r(&t, &local)) return false;
    out.tm_sec = local.tm_sec;
    out.tm_min = local.tm_min;
    out.tm_hour = local.tm_hour;
    out.tm_mday = local.tm_mday;
    out.tm_mon = local.tm_mon + 1;
    out.tm_year = local.tm_year + 1900;
    out.tm_wday = local.tm_wday;
    out.tm_yday = local.tm_yday;
    out.tm_isdst = local.tm_isdst;
    return true;
}

bool IsShowableDate(const BlockDateTm& d)
{
    return d.tm_sec >= 0 && d.tm_sec <= 60 && d.tm_min >= 0 && d.tm_min <= 60 && d.tm_hour >= 0 &&
           d.tm_hour <= 24 && d.tm_mday >= 1 && d.tm_mday <= 31 && d.tm_mon >= 1 && d.tm_mon <= 12 &&
           d.tm_year >= 1970 && d.tm_year <= 3000;
}

CString FormatDate(int language, const BlockDateTm& d)
{
    CString text;
    if (language == kLanguageEnglish) {
        const bool afternoon = d.tm_hour >= 12;
        const int hour = (afternoon && d.tm_hour > 12) ? d.tm_hour - 12 : d.tm_hour;
        text.Format(afternoon ? "%2i/%2i/%4i_%2i:%2i:%2i_PM" : "%2i/%2i/%4i_%2i:%2i:%2i_AM", d.tm_mon, d.tm_mday,
                    d.tm_year, hour, d.tm_min, d.tm_sec);
    } else if (language == kDateTextYearFirst) {
        text.Format("%4i/%2i/%2i_%2i:%2i:%2i", d.tm_year, d.tm_mon, d.tm_mday, d.tm_hour, d.tm_min, d.tm_sec);
    } else {
        text.Format("%2i.%2i.%4i_%2i:%2i:%2i_Uhr", d.tm_mday, d.tm_mon, d.tm_year, d.tm_hour, d.tm_min, d.tm_sec);
    }
    // Two-digit fields get their leading zero; the underscores keep the parts apart until then.
    text.Replace(' ', '0');
    text.Replace('_', ' ');
    return text;
}

}  // namespace

void protocol::PutBlockDate(BYTE* bytes, std::int64_t date)
{
    CKadmor_Send::SplitUInt32(static_cast<std::uint64_t>(date), &bytes[kDateAt], &bytes[kDateAt + 1],
                              &bytes[kDateAt + 2], &bytes[kDateAt + 3]);
}

void CKadmor_Send::ReadBlockDate(CString block, std::int64_t* date, BlockDateTm* dateTm, CString* text,
                                 DWORD* rawDate)
{
    const CString b = PadBlockString(block);
    const DWORD raw = protocol::BlockUInt32(b, kDateAt);
    const std::int64_t seconds = raw;
    if (date) {
        *date = seconds;
        FormatBlockDateText(kLanguageGerman, text, &seconds, nullptr);
    }
    if (dateTm) {
        BlockDateTm local;
        if (!ToLocalDate(seconds, local)) local = BlockDateTm{};
        *dateTm = local;
        FormatBlockDateText(kLanguageGerman, text, nullptr, &local);
    }
    if (rawDate) {
        *rawDate = raw;
        FormatBlockDateText(kLanguageGerman, text, &seconds, nullptr);
    }
}

CString CKadmor_Send::FormatBlockDateText(int language, CString* text, const std::int64_t* date,
                                          const BlockDateTm* dateTm)
{
    BlockDateTm d;
    bool known = false;
    if (date)
        known = ToLocalDate(*date, d);
    else if (dateTm) {
        d = *dateTm;
        known = true;
    }
    const CString result = (known && IsShowableDate(d)) ? FormatDate(language, d) : CString(kDateError);
    if (text) *text = result;
    return result;
}
