#pragma once
// Control ids of the sensor administration forms (the ctrlId property in res/forms/sensor_admin).

namespace sensor_admin {

// Connection page.
constexpr int IDC_CONN_LIST = 1701;
constexpr int IDC_CONN_SEARCH = 1702;
constexpr int IDC_CONN_CONNECT = 1703;
constexpr int IDC_CONN_DISCONNECT = 1704;
constexpr int IDC_CONN_USB_ONLY = 1705;
constexpr int IDC_CONN_BAUD = 1706;
constexpr int IDC_CONN_CHANGE_BAUD = 1707;
constexpr int IDC_CONN_STATUS = 1708;

// Start-up search.
constexpr int IDC_STARTUP_TITLE = 1711;
constexpr int IDC_STARTUP_PROGRESS = 1712;
constexpr int IDC_STARTUP_TEXT = 1713;
constexpr int IDC_STARTUP_USB_ONLY = 1714;

// Sensor information.
constexpr int IDC_INFO_LIST = 1721;
constexpr int IDC_INFO_READ = 1722;
constexpr int IDC_INFO_STORE = 1723;
constexpr int IDC_INFO_STATUS = 1724;
constexpr int IDC_INFO_SENSOR = 1725;  // the sensor shown, when several are connected

// Sensor calibration.
constexpr int IDC_CAL_STATE_LABEL = 1731;
constexpr int IDC_CAL_STATE = 1732;
constexpr int IDC_CAL_REF_A_LABEL = 1733;
constexpr int IDC_CAL_REF_A = 1734;
constexpr int IDC_CAL_REF_B_LABEL = 1735;
constexpr int IDC_CAL_REF_B = 1736;
constexpr int IDC_CAL_START = 1737;
constexpr int IDC_CAL_ACTIVATE = 1738;
constexpr int IDC_CAL_DEACTIVATE = 1739;
constexpr int IDC_CAL_PROGRESS = 1740;
constexpr int IDC_CAL_INACCURACY_GROUP = 1741;
constexpr int IDC_CAL_MODE_CHANGE_A = 1742;
constexpr int IDC_CAL_MODE_CHANGE_B = 1743;
constexpr int IDC_CAL_MODE_DELETE_A = 1744;
constexpr int IDC_CAL_MODE_DELETE_B = 1745;
constexpr int IDC_CAL_INACCURACY_LABEL = 1746;
constexpr int IDC_CAL_INACCURACY = 1747;
constexpr int IDC_CAL_WRITE_ALLOWED = 1748;
constexpr int IDC_CAL_WRITE = 1749;
constexpr int IDC_CAL_STATUS = 1750;
constexpr int IDC_CAL_TITLE = 1751;
constexpr int IDC_CAL_SENSOR = 1752;  // the sensor worked on, when several are connected

// Calibration prompts (OK and Cancel are IDOK and IDCANCEL).
constexpr int IDC_PROMPT_TEXT = 1761;
constexpr int IDC_PROMPT_WITHOUT_CONTROL = 1762;
constexpr int IDC_PROMPT_WARNING = 1763;
constexpr int IDC_PROMPT_PROGRESS = 1764;

// Diagnostics.
constexpr int IDC_DIAG_STATE_LABEL = 1771;
constexpr int IDC_DIAG_STATE = 1772;
constexpr int IDC_DIAG_STATUS_REQUEST = 1773;
constexpr int IDC_DIAG_STATUS = 1774;
constexpr int IDC_DIAG_MULTIPORT_LABEL = 1775;
constexpr int IDC_DIAG_LIST = 1776;

}  // namespace sensor_admin
