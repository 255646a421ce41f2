// Precompiled for every test program.
#include "platform/Win32.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>
