#pragma once

#include <string>

class UnitDriver;

// What `grindvox info` prints about an opened unit, read through its properties: identity,
// channel configurations, latency and tail, every parameter (unit, range, default, current
// value, texts) and the factory presets.

// For people: aligned lines.
std::string InfoText(const UnitDriver& unit);
// For scripts: one JSON object with the same content, values as numbers in the parameters'
// units.
std::string InfoJson(const UnitDriver& unit);
