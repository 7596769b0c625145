#pragma once

#include "engine/Exception.h"

// The errors the documents raise; the application's error box shows their messages.

// A print request that the documents refuse, such as a quote or job without a client.
class EVelbric : public Exception
{
public:
    using Exception::Exception;
};

// Mail is unavailable on this system: no mail program and no mail server.
class EMAPIunavailable : public Exception
{
public:
    EMAPIunavailable();
};

// The mail system was found but lacks what the program needs of it.
class EMAPIdllerror : public Exception
{
public:
    using Exception::Exception;
};
