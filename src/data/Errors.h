#pragma once

#include "engine/Exception.h"

// A record refused by a business rule of the data module.
class EQuorvane : public Exception
{
public:
    using Exception::Exception;
};

// A new record whose code (its first field) holds a blank.
class EInvalidCode : public Exception
{
public:
    using Exception::Exception;
};

// A data directory that cannot be made, opened or checked as asked, with the message for the
// person who asked (the program's start, the data tool).
class EDataDirectory : public Exception
{
public:
    using Exception::Exception;
};
