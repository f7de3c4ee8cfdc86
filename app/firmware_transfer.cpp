#include "Window1.h"

void Window1::PushButton3_Action(host::PushButton&) {}

void Window1::PushButton4_Action(host::PushButton&) {}

void Window1::Timer1_Action(host::Timer&) {}
