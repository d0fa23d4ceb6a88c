// the settings store of a session
