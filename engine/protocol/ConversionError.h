#pragma once

#include <stdexcept>

// Thrown when a text that must be a number is not, or a number leaves the range its
// target can hold. The translator turns it into the translation-error sentence of one
// frame; the configuration loader into its general failure.
class ConversionError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
