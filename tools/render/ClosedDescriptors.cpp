#include "ClosedDescriptors.h"

#if ! defined(_WIN32)

 #include <cerrno>
 #include <fcntl.h>
 #include <unistd.h>

namespace
{
bool wasClosed[3] = {};
} // namespace

namespace ClosedDescriptors
{
void occupy()
{
    // Lowest first: open() returns the lowest free number, which is the one closed.
    for (int descriptor = 0; descriptor < 3; ++descriptor)
        if (::fcntl (descriptor, F_GETFD) == -1 && errno == EBADF)
        {
            wasClosed[descriptor] = true;
            [[maybe_unused]] const int taken = ::open ("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
        }
}

bool standardInputWasClosed() { return wasClosed[0]; }
bool standardOutputWasClosed() { return wasClosed[1]; }
} // namespace ClosedDescriptors

#else

// Windows reports a missing standard handle in its own way; it is not
// detected here, and "-" then fails on its first read or write.
namespace ClosedDescriptors
{
void occupy() {}
bool standardInputWasClosed() { return false; }
bool standardOutputWasClosed() { return false; }
} // namespace ClosedDescriptors

#endif
