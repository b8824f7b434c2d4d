// Empty: compiled only to make the precompiled header of one kind of target (see Km3.cmake).
