<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.10" tiledversion="1.10.2" name="details" tilewidth="64" tileheight="64" tilecount="8" columns="4">
 <image source="details.png" width="256" height="128"/>
 <tile id="5">
  <properties>
   <property name="opens" value="true"/>
  </properties>
 </tile>
</tileset>
