// Writes the detector's statistics as the C++ source cyrillic_statistics.cpp.
#pragma once

#include <string>

#include "detection_model.h"

// Returns false when the file cannot be written.
bool WriteModelSource(const DetectionModel& model, const std::string& path, const std::string& corpusDescription);
