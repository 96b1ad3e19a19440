// Links one floor library whole (see CMakeLists.txt): any reference to a
// floor above it is left undefined and the link fails.
int main() { return 0; }
