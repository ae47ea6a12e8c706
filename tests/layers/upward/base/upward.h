// A bottom-layer header that includes the top layer: check_layers.sh must refuse it.
#pragma once

#include "app/app.h"
