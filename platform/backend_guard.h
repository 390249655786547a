// Included first by every header of a backend. The game's own sources are compiled with
// ORVANTA_GAME_SOURCES: they see the toolkit model only, never a backend.
#ifdef ORVANTA_GAME_SOURCES
#error "the game sees the toolkit model only, never a backend"
#endif
