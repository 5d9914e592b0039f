import os

SOURCE_DIR = os.environ.get(
    "TAVRIN_SOURCE_DIR", os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "..")))
BINARY_DIR = os.environ.get("TAVRIN_BINARY_DIR", os.path.join(SOURCE_DIR, "build"))


def binary(*parts):
    """Path of a program built by CMake, e.g. binary('backend', 'kwprint')."""
    return os.path.join(BINARY_DIR, *parts)
