// A library that the stand-in plug-in 0 imports: where the loader may find
// it is what the test of the library search looks at.
extern "C" __declspec(dllexport) int FakeDependency() { return 1; }
