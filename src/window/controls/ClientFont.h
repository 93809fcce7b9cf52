#pragma once

class QWidget;

namespace glowline {

// The layout was drawn for a small, narrow system font; the platform's
// default font is often wider, and captions would cross their controls'
// edges. The client area takes the largest size, up to the default, at which
// every caption fits its control and the line numbers show all five digits.
void fitClientFont(QWidget &client);

} // namespace glowline
