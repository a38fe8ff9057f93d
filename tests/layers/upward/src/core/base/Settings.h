#pragma once
#include "print/Report.h"
