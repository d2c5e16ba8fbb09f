#pragma once
// Captions of the on-screen keys for the capitals mode (Keyboard::applyCapitalsCaptions).

#include "keyboard.h"
