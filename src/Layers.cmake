# The parts of the program, lowest first. A file in src/<part> or tests/<part> includes only
# its own part and the parts before it; each part's library links only the ones before it.
set(TAVRIGON_LAYERS eval setup render output session ui app)
