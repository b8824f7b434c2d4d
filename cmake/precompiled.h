// Headers that nearly every file of a target reads: parsed once per target instead of once per
// file. Only headers the target can reach are taken: Qt's when it links Qt.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#if __has_include(<QObject>)
#include <QObject>
#include <QString>
#include <QTimer>
#endif
#if __has_include(<QWidget>)
#include <QWidget>
#include <QPainter>
#endif
