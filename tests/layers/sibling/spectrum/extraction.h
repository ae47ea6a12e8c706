// A library that includes a sibling it does not link: check_layers.sh must refuse it.
#pragma once

#include "imagefile/fits_reader.h"
#include "state/app_state.h"
