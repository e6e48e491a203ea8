#pragma once
// Put first on the include path of every core library, so that any Qt Gui header there stops
// the build: the core builds on Qt Core and the widget-free platform alone.
#error "Qt Gui is not available to this library: the core links Qt Core only (see docs/ARCHITECTURE.md)"
