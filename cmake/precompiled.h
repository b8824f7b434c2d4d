// Headers that nearly every file reads: parsed once per kind of target instead of once per file.
// Qt's are taken where the kind links Qt.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
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
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QWidget>
#endif
