// A test program's precompiled headers: the common ones and GoogleTest.
#pragma once

#include "precompiled.h"

#include <gtest/gtest.h>
