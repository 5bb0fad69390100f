#pragma once
// A model header that reaches up into the query window: the layers check must refuse it.
#include "app/TForm1.h"
