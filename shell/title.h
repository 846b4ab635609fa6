// The title: the logo and the story, shown once between the video set-up and the world.
#pragma once

// Logo fade and a two-second hold, the story panel and the wait for SPACE.
void show_title();
