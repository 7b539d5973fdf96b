# The one place where the program's version and names are set; the executables' version
# records are generated from these (cmake/VersionInfo.cmake). Included before project() by
# every CMake entry point: the whole program (CMakeLists.txt) and the Windows cross build of
# the platform layer (platform-windows/CMakeLists.txt).
set(INKVALE_VERSION 1.1.0.0)
set(INKVALE_COMPANY_NAME "TAVRINO")
set(INKVALE_PRODUCT_NAME "Inkvale")
