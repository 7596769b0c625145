#pragma once

#include "engine/Exception.h"

// A print request that the documents refuse, such as a quote or job without a client.
class EVelbric : public Exception
{
public:
    using Exception::Exception;
};
