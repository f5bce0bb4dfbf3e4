"""The asset build: the table, the palette, pixel helpers, file writers and the output checks."""
