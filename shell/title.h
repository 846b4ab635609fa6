// The title: the logo and the story, shown once between the video set-up and the world.
#pragma once

// Logo fade and a two-second hold, the story panel and the wait for SPACE. A SPACE pressed
// during the hold ends it and the story then waits for a fresh press. False when the player
// asked to end the game there (ESC or the window's close button): the caller shuts down.
bool show_title();
