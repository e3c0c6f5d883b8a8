#pragma once
// The bitmap text of sys/web/gl/bitmapText.cpp is drawn a line at a time: the frame's end draws
// the last one.

void drawPendingText();
