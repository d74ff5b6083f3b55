#pragma once

#include <string>
#include <vector>

namespace bench_support {

// Peak memory is a property of a whole process, so each benchmark measures it in a child of
// its own program that does only the work measured. This starts the child with
// "--peak-memory" and the given arguments, a last argument naming the file it writes its peak
// to, and returns that peak in megabytes (0 when the child could not be started).
double peakMegabytesOfChild(const std::vector<std::string>& args);
// In the child: the process's peak resident memory in megabytes, written to path.
void writePeakMegabytes(const std::string& path);

// The floor under reading a file: its bytes read and its lines counted, nothing more.
size_t readAndCountLines(const std::string& path);

} // namespace bench_support
