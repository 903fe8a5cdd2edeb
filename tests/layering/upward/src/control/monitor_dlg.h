#pragma once
#include "acquire/decoder.h"
