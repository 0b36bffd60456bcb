#include "app/MainFrame.h"
