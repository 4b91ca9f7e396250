#pragma once

/** Standard input, output or error closed when the tool was started. The
    lowest free descriptor number would go to the next file or socket the
    framework opens, and reading "standard input" would then wait on that
    socket for ever; so each closed one is taken by /dev/null at once, and
    remembered, so that "-" can be refused with a message (POSIX systems). */
namespace ClosedDescriptors
{
/** Call first in main, before anything opens a file. */
void occupy();

bool standardInputWasClosed();
bool standardOutputWasClosed();
} // namespace ClosedDescriptors
