"""System-test fixtures: local accounts, a private cupsd, build paths."""
