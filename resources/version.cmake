# The program's version: the version resource, the About box and the release archive's name all
# take it from here.
set(TARSEL_VERSION 1.0.0)
