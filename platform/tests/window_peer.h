// The messages the cross-process window tests and their peer share.
#pragma once

#include "platform/messages.h"

constexpr UINT kAdd = WM_USER + 1;
constexpr UINT kPosted = WM_USER + 2;
constexpr UINT kPostCount = WM_USER + 3;
constexpr UINT kCallBack = WM_USER + 4;
constexpr UINT kHang = WM_USER + 5;
constexpr UINT kDie = WM_USER + 6;
