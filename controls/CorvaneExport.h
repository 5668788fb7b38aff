// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Marks the classes and functions that the Corvane shared library exports.
#if defined(_WIN32)
#if defined(CORVANE_BUILDING)
#define CORVANE_EXPORT __declspec(dllexport)
#else
#define CORVANE_EXPORT __declspec(dllimport)
#endif
#else
#define CORVANE_EXPORT __attribute__((visibility("default")))
#endif
