// Keeps the standard descriptors' numbers from being handed to anything the program opens.
#pragma once

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed, in the direction that stream
// is not used (standard input for writing, the outputs for reading), so a closed stream still
// fails as a closed one does (EBADF) while its number can't go to a file or the display's
// connection, where its messages would land. Called first thing in main; false when a
// descriptor can't be held (no /dev/null): the program must not go on then.
bool HoldStandardStreams();
