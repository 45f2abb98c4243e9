#include "skins/BmpPalette.h"
